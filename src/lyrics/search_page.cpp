#include "lyrics/search_page.h"
