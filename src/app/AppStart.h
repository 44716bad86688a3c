#pragma once
// The program's windows behind their seams, as the program wires them before Main: the test
// of the whole program starts the same way.
void installProgramWindows();
