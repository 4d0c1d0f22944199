// Start-up: folders, debug log, audio devices, the window and the callbacks;
// then GLUT's main loop for the rest of the run.
#pragma once

int runTarnova(int argc, char **argv);
