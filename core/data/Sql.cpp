#include "Sql.h"
