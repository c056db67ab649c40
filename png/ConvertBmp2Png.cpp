// The PNG conversion library beside skimlet.exe. Its one export turns a bitmap file into a lossless PNG
// through the Windows Imaging Component. Every bitmap is validated before it is decoded, and the PNG is
// written under a temporary name and renamed, so a bad input gives "false" and never a crash or half a file.
#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "core/Bmp.h"

extern "C" BOOLEAN WINAPI ConvertBMP2PNG(const wchar_t* bmpPath, const wchar_t* pngPath);

namespace {

constexpr LONGLONG kMaxBitmapBytes = 1ll << 30;  // larger than any screen capture we make

bool ReadWholeFile(const wchar_t* path, std::vector<std::uint8_t>& bytes) {
  const HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  DWORD read = 0;
  bool ok = ::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxBitmapBytes;
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    ok = ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
  }
  ::CloseHandle(file);
  return ok;
}

// COM for this thread, balanced; a thread already in another apartment keeps it.
class ComScope {
 public:
  ComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }
  bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT hr_;
};

bool HasAlpha(const WICPixelFormatGUID& f) {
  return IsEqualGUID(f, GUID_WICPixelFormat32bppBGRA) || IsEqualGUID(f, GUID_WICPixelFormat32bppPBGRA) ||
         IsEqualGUID(f, GUID_WICPixelFormat32bppRGBA) || IsEqualGUID(f, GUID_WICPixelFormat32bppPRGBA);
}

// Decodes the validated bitmap held in `bytes` and writes it as PNG to `target`.
bool Encode(IWICImagingFactory* factory, std::vector<std::uint8_t>& bytes, const wchar_t* target) {
  ComPtr<IWICStream> input;
  if (FAILED(factory->CreateStream(input.Put())) ||
      FAILED(input->InitializeFromMemory(bytes.data(), static_cast<DWORD>(bytes.size())))) {
    return false;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoder(GUID_ContainerFormatBmp, nullptr, decoder.Put())) ||
      FAILED(decoder->Initialize(input.Get(), WICDecodeMetadataCacheOnLoad))) {
    return false;
  }
  ComPtr<IWICBitmapFrameDecode> source;
  if (FAILED(decoder->GetFrame(0, source.Put()))) return false;
  UINT width = 0, height = 0;
  WICPixelFormatGUID sourceFormat{};
  if (FAILED(source->GetSize(&width, &height)) || FAILED(source->GetPixelFormat(&sourceFormat))) return false;

  ComPtr<IWICStream> output;
  if (FAILED(factory->CreateStream(output.Put())) ||
      FAILED(output->InitializeFromFilename(target, GENERIC_WRITE))) {
    return false;
  }
  ComPtr<IWICBitmapEncoder> encoder;
  if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put())) ||
      FAILED(encoder->Initialize(output.Get(), WICBitmapEncoderNoCache))) {
    return false;
  }
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (FAILED(encoder->CreateNewFrame(frame.Put(), options.Put())) || FAILED(frame->Initialize(options.Get())) ||
      FAILED(frame->SetSize(width, height))) {
    return false;
  }
  // A screen capture's fourth byte is padding, not opacity (WIC reads such a bitmap as 32bppBGR): it is
  // written as opaque RGB. Only a bitmap that declares real alpha keeps it.
  WICPixelFormatGUID format = HasAlpha(sourceFormat) ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  if (FAILED(frame->SetPixelFormat(&format))) return false;

  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Put())) ||
      FAILED(converter->Initialize(source.Get(), format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return false;
  }
  return SUCCEEDED(frame->WriteSource(converter.Get(), nullptr)) && SUCCEEDED(frame->Commit()) &&
         SUCCEEDED(encoder->Commit()) && SUCCEEDED(output->Commit(STGC_DEFAULT));
}  // every object is released here: the output file is closed before it is renamed

bool Convert(const wchar_t* bmpPath, const wchar_t* pngPath) {
  if (!bmpPath || !pngPath || !*bmpPath || !*pngPath) return false;
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(bmpPath, bytes)) return false;
  if (!core::CheckBmp(bytes).ok()) return false;

  const ComScope com;
  if (!com.usable()) return false;
  const std::wstring temporary =
      std::wstring(pngPath) + L"." + std::to_wstring(::GetCurrentProcessId()) + L".part";
  bool written = false;
  {
    ComPtr<IWICImagingFactory> factory;
    if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Put())))) {
      written = Encode(factory.Get(), bytes, temporary.c_str());
    }
  }
  if (written && ::MoveFileExW(temporary.c_str(), pngPath, MOVEFILE_REPLACE_EXISTING)) return true;
  ::DeleteFileW(temporary.c_str());
  return false;
}

}  // namespace

extern "C" BOOLEAN WINAPI ConvertBMP2PNG(const wchar_t* bmpPath, const wchar_t* pngPath) {
  // Nothing may escape into the caller, which may not even be C++.
  try {
    return Convert(bmpPath, pngPath) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}
