#include "lyrics/lrc_parser.h"
