/* cp of a game file's samples into the preview copy's layout: 44 header bytes,
   then the samples, read from byte 28 of the source. `kernel` (the default)
   copies them in one copy_file_range, as cp makes its own copy; `buffer`
   through a 1 MiB buffer placed at the destination's offset within a page.
   bench/preview.sh (tmpfs) and bench/ext4.sh run both beside cp: what the
   samples' 16-byte move costs each way, before any window is made, on the
   file systems SampleCopier chooses between. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

int main(int argc, char** argv) {
    static const char header[44];
    if (argc != 3 && argc != 4) return 2;
    const int in = open(argv[1], O_RDONLY | O_CLOEXEC);
    const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (in < 0 || out < 0 || write(out, header, sizeof header) != (ssize_t)sizeof header) return 1;
    posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
    off_t at = 28;
    ssize_t n;
    if (argc == 4 && strcmp(argv[3], "buffer") == 0) {
        const size_t size = (size_t)1 << 20;
        char* base = aligned_alloc(4096, size + 4096);
        char* buffer = base + sizeof header;
        while ((n = pread(in, buffer, size, at)) > 0) {
            if (write(out, buffer, (size_t)n) != n) return 1;
            at += n;
        }
    } else {
        while ((n = copy_file_range(in, &at, out, NULL, (size_t)1 << 30, 0)) > 0) {
        }
    }
    return n < 0 || close(out) != 0;
}
