#pragma once

namespace Vantor::DB {

// Results of the database layer. Failures are reported by these codes, never by
// exceptions; callers fall back to their documented defaults.
enum StatusCode : int {
    StatusOk = 0,
    StatusQueryFailed = -1,       // the query failed or returned no row
    StatusNullUuid = -2,
    StatusUnknownCollection = -4, // not registered, even after a fresh enumeration
    StatusCannotOpen = -5,        // the collection's database file cannot be opened
    StatusNothingMatches = -6,    // no card passes the filter, or the search finds nothing
    StatusRowOutsideCard = -10,
};

} // namespace Vantor::DB
