#include "OfficeRoster.h"

#include <algorithm>

bool OfficeRoster::note(const QString &office, const OfficeStatus &status, const QDateTime &now)
{
    const auto place = std::lower_bound(m_offices.begin(), m_offices.end(), office,
                                        [](const SeenOffice &seen, const QString &id) { return seen.office < id; });
    if (place != m_offices.end() && place->office == office) {
        place->status = status;
        place->lastSeen = now;
        return true;
    }
    if (m_offices.size() >= kMaxOffices)
        return false;
    m_offices.insert(place, SeenOffice{office, status, now});
    return true;
}
