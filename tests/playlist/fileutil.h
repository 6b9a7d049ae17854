#pragma once
// The whole-file helpers (ReadBytes, WriteBytes) live with the other shared test helpers.
#include "support/testenv.h"
