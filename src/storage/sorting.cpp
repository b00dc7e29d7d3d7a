#include "storage/sorting.h"
