#include "update/announcement.h"
