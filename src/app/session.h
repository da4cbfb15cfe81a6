#pragma once

class Program;

// Connects the desktop to the program: activation moving between our windows, and the session
// (or a TERM/INT/HUP signal) asking the program to quit.
void watchSession(Program& program);
