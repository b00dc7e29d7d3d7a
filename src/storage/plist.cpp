#include "storage/plist.h"
