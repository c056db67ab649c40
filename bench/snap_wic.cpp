#include "snap_wic.h"

#include <windows.h>
#include <wincodec.h>

#include <utility>

namespace {

// The smallest owner of a COM interface pointer: released once, when it goes.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (ptr_) ptr_->Release();
  }
  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  T** Put() { return &ptr_; }  // only on an empty ComPtr

 private:
  T* ptr_ = nullptr;
};

class ComScope {
 public:
  ComScope() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(hr_)) ::CoUninitialize();
  }

 private:
  HRESULT hr_;
};

bool CreateFactory(ComPtr<IWICImagingFactory>& factory) {
  return SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.Put())));
}

bool HasAlpha(const WICPixelFormatGUID& f) {
  return IsEqualGUID(f, GUID_WICPixelFormat32bppBGRA) || IsEqualGUID(f, GUID_WICPixelFormat32bppPBGRA) ||
         IsEqualGUID(f, GUID_WICPixelFormat32bppRGBA) || IsEqualGUID(f, GUID_WICPixelFormat32bppPRGBA);
}

bool Encode(IWICImagingFactory* factory, const std::wstring& bmpPath, const std::wstring& pngPath) {
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> source;
  UINT width = 0, height = 0;
  WICPixelFormatGUID sourceFormat{};
  if (FAILED(factory->CreateDecoderFromFilename(bmpPath.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnLoad,
                                                decoder.Put())) ||
      FAILED(decoder->GetFrame(0, source.Put())) || FAILED(source->GetSize(&width, &height)) ||
      FAILED(source->GetPixelFormat(&sourceFormat))) {
    return false;
  }
  ComPtr<IWICStream> output;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (FAILED(factory->CreateStream(output.Put())) ||
      FAILED(output->InitializeFromFilename(pngPath.c_str(), GENERIC_WRITE)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put())) ||
      FAILED(encoder->Initialize(output.Get(), WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(frame.Put(), options.Put())) || FAILED(frame->Initialize(options.Get())) ||
      FAILED(frame->SetSize(width, height))) {
    return false;
  }
  WICPixelFormatGUID format = HasAlpha(sourceFormat) ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  ComPtr<IWICFormatConverter> converter;
  return SUCCEEDED(frame->SetPixelFormat(&format)) && SUCCEEDED(factory->CreateFormatConverter(converter.Put())) &&
         SUCCEEDED(converter->Initialize(source.Get(), format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom)) &&
         SUCCEEDED(frame->WriteSource(converter.Get(), nullptr)) && SUCCEEDED(frame->Commit()) &&
         SUCCEEDED(encoder->Commit()) && SUCCEEDED(output->Commit(STGC_DEFAULT));
}

}  // namespace

bool WicConvertBmpToPng(const std::wstring& bmpPath, const std::wstring& pngPath) {
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  return CreateFactory(factory) && Encode(factory.Get(), bmpPath, pngPath);
}

std::optional<std::vector<std::uint32_t>> WicDecode(const std::wstring& path) {
  const ComScope com;
  ComPtr<IWICImagingFactory> factory;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  ComPtr<IWICFormatConverter> converter;
  UINT width = 0, height = 0;
  if (!CreateFactory(factory) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnLoad,
                                                decoder.Put())) ||
      FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(factory->CreateFormatConverter(converter.Put())) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->GetSize(&width, &height))) {
    return std::nullopt;
  }
  std::vector<std::uint32_t> pixels(2 + static_cast<std::size_t>(width) * height);
  pixels[0] = width;
  pixels[1] = height;
  if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4, reinterpret_cast<BYTE*>(pixels.data() + 2)))) {
    return std::nullopt;
  }
  return pixels;
}
