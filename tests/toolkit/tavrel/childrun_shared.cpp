// The skin engine's tests start children the same way the toolkit's tests do.
#include "../common/childrun.cpp"
