#include "RowSet.h"
