#include "ZRMMathematics.h"

int ZRMMathematicsMarker() { return 1; }
