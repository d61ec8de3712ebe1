#include "caption/rotation.h"
