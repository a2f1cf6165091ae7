// @brief The fixed texts of toolkit failures; the status follows each at once.
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
