#pragma once
// Waits that are not for something to happen. A test waits for what it expects by polling for it
// (QTRY_*, QTest::qWaitFor); these only let time pass, for the few checks that are about time
// itself: that something does not happen within a while (an answer that must not come, a timer of
// Qt's own that nothing reports), or a peer that is slow on purpose. Each caller says which.
#include <QApplication>
#include <QTest>

// Lets the event loop run for ms milliseconds.
inline void LetTimePass(int ms)
{
    QTest::qWait(ms);
}

// A click on an item view: Qt scrolls the clicked item into view a double-click interval (and a
// little more) later, on a timer that nothing reports. A check that the view stayed where it was
// lets that time pass first, so that it sees the scroll if one came.
inline void WaitOutDelayedAutoScroll()
{
    LetTimePass(QApplication::doubleClickInterval() + 300);
}
