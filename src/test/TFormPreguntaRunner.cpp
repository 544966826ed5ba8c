#include "test/TFormPregunta.h"

namespace vexamo {} // namespace vexamo
