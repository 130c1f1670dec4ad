#pragma once
// What the programs do first: the process-wide values as at start, and the
// program's cipher key installed. Each test's application folder and each test
// host begin with it.
void StartLikeTheProgram();
