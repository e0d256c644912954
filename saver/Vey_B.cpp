#include "Vey_B.h"

int32_t API_Result = 0;
