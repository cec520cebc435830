#include "wall/cell_rect.h"
