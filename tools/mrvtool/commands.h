#pragma once

// Each command takes the arguments after its name and returns the exit code.
int RunInfo(int argc, char** argv);
int RunRender(int argc, char** argv);
int RunDump(int argc, char** argv);
int RunBarcodes(int argc, char** argv);
int RunBlank(int argc, char** argv);
int RunOmr(int argc, char** argv);
int RunSave(int argc, char** argv);
int RunSplit(int argc, char** argv);
