// Moved to core/; kept for the files still being changed on another branch.
#pragma once
#include "core/Globals.h"
#include "core/MessageBox.h"
