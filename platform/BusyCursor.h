#pragma once
// Shows the busy mouse pointer for the life of a scope, however the scope is left.
// Guards nest: the pointer returns to normal when the outermost one ends.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
