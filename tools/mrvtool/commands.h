#pragma once

// Each command takes the arguments after its name and returns the exit code.
int RunInfo(int argc, char** argv);
int RunRender(int argc, char** argv);
