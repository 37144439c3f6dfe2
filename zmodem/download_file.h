// Where downloads go and how their files are made: the download directory rule (shared with the
// capture log), the cleaning of names offered by a host, and creating a file that is always new.
#pragma once

enum {
    DOWNLOAD_DIR_SIZE = 300,  // at most 299 characters, ending in "/"
    DOWNLOAD_PATH_SIZE = 600, // directory, name and a numbered suffix
    DOWNLOAD_NAME_MAX = 255,  // bytes in one Linux file name
    DOWNLOAD_NUMBERS = 999,   // name.1 .. name.999 when the name is taken
};

// The download directory: the setting, or the program directory when it is empty, ending in "/".
// The last level is created when missing; when no file can be made there, the program directory is
// used instead.
void download_dir_choose(const char *setting, const char *program_dir, char *out, int size);

// The name a host offered, made safe: only the part after the last "/", "\\" or ":", control
// characters and <>:"/\|?* turned into "_", "download.bin" for an empty name, "." or "..", and cut
// to 255 bytes at a character boundary keeping a short extension. out needs 256 bytes.
void download_clean_name(const char *offered, char *out);

// Creates a new file for writing in dir (ending in "/"): name, else name.1 up to name.999. Never
// opens an existing file or follows a link. The descriptor, with the path and the name used filled
// in (name needs 256 bytes), or -1 with errno set (EEXIST when every number is taken).
int download_create(const char *dir, const char *name, char *path, int path_size, char *used_name);
