#include "support/scenario.h" // IWYU pragma: export
