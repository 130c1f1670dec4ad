#pragma once
// The error reporter and the message service of a running program, for as
// long as this object lives. Without a screen no one can read or answer a box:
// messages and error reports then go to standard error, and questions take the
// safe answer.
class ProgramBoxes {
public:
    // Boxes on screen unless the program runs without one.
    ProgramBoxes();
    ~ProgramBoxes();
    ProgramBoxes(const ProgramBoxes&) = delete;
    ProgramBoxes& operator=(const ProgramBoxes&) = delete;

    // True on the offscreen and minimal platforms.
    static bool Headless();
};
