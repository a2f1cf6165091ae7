// @brief Placeholder: declarations arrive with the work that implements them.
#pragma once
#include "winport/api/base.h"
