// Host addresses as users and files write them: "host", "host port" or "host:port", each also behind
// "telnet://". Stored canonically as "host" for port 23 and "host port" otherwise.
#pragma once

enum { ADDRESS_TEXT = 256, ADDRESS_DEFAULT_PORT = 23 };

// Never fails: host gets the host part (possibly empty), port a value in 1..65535 (23 by default).
void address_parse(const char *text, char *host, int host_size, int *port);
// "host port" when port is not 23 and at least 1, else the host alone; cut to size.
void address_format(char *out, int size, const char *host, int port);
// Parses a non-empty text and formats it back into the same buffer.
void address_normalise(char *text, int size);
