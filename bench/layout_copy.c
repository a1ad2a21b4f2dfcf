/* cp of a game file's samples into the preview copy's layout: 44 header bytes,
   then the samples, read from byte 28 of the source, in one copy_file_range as
   cp makes its own copy. bench/preview.sh runs it beside cp: what the samples'
   16-byte move costs the kernel's copy, before any window is made. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    static const char header[44];
    if (argc != 3) return 2;
    const int in = open(argv[1], O_RDONLY | O_CLOEXEC);
    const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (in < 0 || out < 0 || write(out, header, sizeof header) != (ssize_t)sizeof header) return 1;
    posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
    off_t at = 28;
    ssize_t n;
    while ((n = copy_file_range(in, &at, out, NULL, (size_t)1 << 30, 0)) > 0) {
    }
    return n < 0 || close(out) != 0;
}
