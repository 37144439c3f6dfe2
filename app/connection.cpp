#include "app/connection.h"

ConnectionState g_connection = {0, 0, "", "", 23, -1, 0, 0, 0};
