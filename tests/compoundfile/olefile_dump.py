#!/usr/bin/python3
# olefile_dump.py: lists a compound file as an independent reader (olefile)
# sees it, one line per entry, sorted, for InteropTest.cpp to compare:
#   root\t\t<clsid>\t<state bits>\t<created>\t<modified>
#   storage\t<path>\t<clsid>\t<state bits>\t<created>\t<modified>
#   stream\t<path>\t<size>\t<crc32>\t<state bits>
# Any defect olefile notices, even the slightest, is an error (exit status 1).
import sys
import zlib

import olefile


def entry_of(ole, path):
    return ole.direntries[ole._find(path)]


def storage_fields(entry):
    return [entry.clsid, str(entry.dwUserFlags), str(entry.createTime), str(entry.modifyTime)]


def main():
    ole = olefile.OleFileIO(sys.argv[1], raise_defects=olefile.DEFECT_UNSURE)
    lines = ["\t".join(["root", ""] + storage_fields(ole.root))]
    for path in ole.listdir(streams=True, storages=True):
        entry = entry_of(ole, path)
        name = "/".join(path)
        if ole.get_type(path) == olefile.STGTY_STORAGE:
            lines.append("\t".join(["storage", name] + storage_fields(entry)))
        else:
            data = ole.openstream(path).read()
            if len(data) != entry.size:
                raise ValueError("stream %s: read %d bytes of %d" % (name, len(data), entry.size))
            lines.append("\t".join(["stream", name, str(entry.size), "%08x" % zlib.crc32(data),
                                    str(entry.dwUserFlags)]))
    if ole.parsing_issues:
        raise ValueError("parsing issues: %r" % (ole.parsing_issues,))
    ole.close()
    sys.stdout.buffer.write(("\n".join(sorted(lines)) + "\n").encode("utf-8"))


if __name__ == "__main__":
    main()
