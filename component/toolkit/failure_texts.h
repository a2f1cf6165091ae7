// @brief The fixed texts of failures: those of toolkit requests, which the
// status follows at once, and those the interface members describe to the
// host.
#pragma once

inline constexpr char kSessionCreateFailed[] = "Unable to create a Dizode session. Dizode error";
inline constexpr char kCollectionCreateFailed[] =
    "Unable to create a Dizode Collection. Dizode error";
inline constexpr char kSubmitFailed[] =
    "Unable to Submit docs into a Dizode Collection. Dizode error";
inline constexpr char kAddDocsFailed[] =
    "Unable to add new docs into a Dizode Collection. Dizode error";
inline constexpr char kRemoveDocsFailed[] =
    "Unable to remove docs from a Dizode Collection. Dizode error";
inline constexpr char kSearchFailed[] = "Unable to Search. Dizode error";
inline constexpr char kSearchInfoFailed[] = "Unable to Get Search Info. Dizode error";
inline constexpr char kDocReadBatchFailed[] = "Unable to do DocReadBatch. Dizode error";
// Raised instead of calling the toolkit with a null collection handle.
inline constexpr char kNoCollectionOpen[] = "No Dizode Collection is open.";

// Descriptions of failing interface calls.
inline constexpr char kFindArgumentMissing[] =
    "Find needs a query text and a place for its results.";
inline constexpr char kAutoRefreshArgumentMissing[] = "AutoRefresh needs a place for its value.";
inline constexpr char kStartUpFailed[] = "The help index could not be opened or built in ";
inline constexpr char kWatcherStartFailed[] = "The help folder cannot be watched: ";
inline constexpr char kNoWatcherToStop[] = "No help folder watcher is running.";
inline constexpr char kOutOfMemory[] = "Not enough memory.";
inline constexpr char kUnexpectedFailure[] = "Unexpected failure.";
