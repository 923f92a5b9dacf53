// Moving images between BMP files and the run state, and handing files to the viewer.
#pragma once

#include <string>

#include "bitmap/bmp_format.h"
#include "dialogue/run_state.h"

namespace pixamorph {

// Opens a regular file for reading (never blocking on a FIFO or device); -1 when it cannot.
int openRegularFile(const std::string& name);
// Reads the header of the open `inFile` and runs the header gate on it, noting the file's true
// length, its first 54 bytes and where its pixels are. Called when the input name is typed.
HeaderVerdict examineInput(RunState& state);
// First stage: reads the examined input file into `work` and reports what it found.
void readInput(RunState& state);
// Last stage: writes `work` as a BMP file named `outName`, replacing it only when complete.
void writeOutput(RunState& state);
// True when the folder of an output name exists and new files can be made in it.
bool outputFolderUsable(const std::string& name);
// Starts the desktop's viewer on `name` and returns at once; failures go unnoticed.
void openInViewer(const std::string& name);

}  // namespace pixamorph
