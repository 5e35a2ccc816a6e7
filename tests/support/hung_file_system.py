#!/usr/bin/python3
# A file system that never answers a lookup, as a network mount whose server
# has gone: stat() of any name in it blocks for as long as this runs.
# Usage: hung_file_system.py MOUNT_POINT (runs in the foreground).
import stat
import sys
import threading

import fusepy


class Hung(fusepy.Operations):
    def getattr(self, path, fh=None):
        if path == "/":
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2}
        threading.Event().wait()

    def readdir(self, path, fh):
        return [".", ".."]


fusepy.FUSE(Hung(), sys.argv[1], foreground=True, nothreads=False)
