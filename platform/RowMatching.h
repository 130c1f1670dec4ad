#pragma once
// Which rows of a list's content are still there after a refill, matched by
// their identities, so that the views hear only of rows that come, go or
// change, and a row that stays keeps its selection and its place. Kept rows
// keep their order: of rows that changed places, as many as can stay do, and
// the others count as gone and new.
#include <QList>
#include <QStringList>

// For each row of before, its row in after, or -1 when it is not kept. The
// kept rows' new places rise with their old ones. An identity that repeats is
// matched once, first with first.
QList<int> MatchRows(const QStringList& before, const QStringList& after);
