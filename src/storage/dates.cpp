#include "storage/dates.h"
