#include "update/progress_text.h"
