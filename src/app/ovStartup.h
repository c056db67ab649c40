#pragma once
// Start-up and shutdown of the whole program, in one explicit order.

// Runs Skimlet: creates the process-wide objects and the two windows, runs the message loop until the user
// chooses Exit, and releases everything in reverse order. Returns the process exit code.
int RunSkimlet(int showCommand);
