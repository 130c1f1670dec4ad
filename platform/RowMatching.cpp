#include "platform/RowMatching.h"

#include <QHash>
#include <algorithm>

QList<int> MatchRows(const QStringList& before, const QStringList& after)
{
    QHash<QString, int> place;
    place.reserve(after.size());
    // Backwards, so that a repeated identity is found at its first row.
    for (int row = int(after.size()) - 1; row >= 0; --row)
        place.insert(after.at(row), row);

    // Where each old row is found again, if at all.
    QList<int> found(before.size(), -1);
    for (int row = 0; row < before.size(); ++row) {
        const auto at = place.find(before.at(row));
        if (at == place.end())
            continue;
        found[row] = *at;
        place.erase(at);
    }

    // The longest run of found rows whose new places rise (patience sorting):
    // ends[n] is the old row that ends the best run of length n + 1.
    QList<int> ends;
    QList<int> previous(before.size(), -1);
    for (int row = 0; row < before.size(); ++row) {
        if (found.at(row) < 0)
            continue;
        const auto at = std::lower_bound(ends.begin(), ends.end(), found.at(row),
                                         [&found](int end, int place) { return found.at(end) < place; });
        const auto length = at - ends.begin();
        previous[row] = length > 0 ? ends.at(length - 1) : -1;
        if (at == ends.end())
            ends.append(row);
        else
            *at = row;
    }
    QList<int> kept(before.size(), -1);
    for (int row = ends.isEmpty() ? -1 : ends.last(); row >= 0; row = previous.at(row))
        kept[row] = found.at(row);
    return kept;
}
