"""Reads a Windows shell link (.lnk) the way the shell resolves it and prints its target,
working folder and icon location, one "name=value" line each.

Usage: read_lnk.py FILE. Independent of the writer under test: the layout is the documented
Shell Link binary format (header, optional ID list, link info, then the counted strings).
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH = 0x1, 0x2, 0x4, 0x8
HAS_WORKING_DIR, HAS_ARGUMENTS, HAS_ICON_LOCATION, IS_UNICODE = 0x10, 0x20, 0x40, 0x80
LINK_CLSID = bytes.fromhex("0114020000000000c000000000000046")


def c_string(data, offset, unicode):
    if unicode:
        end = offset
        while data[end:end + 2] != b"\0\0":
            end += 2
        return data[offset:end].decode("utf-16-le")
    return data[offset:data.index(b"\0", offset)].decode("cp1252")


def local_base_path(data, start):
    size, header_size, flags = struct.unpack_from("<III", data, start)
    if not flags & 0x1:  # VolumeIDAndLocalBasePath
        return "", start + size
    base_offset = struct.unpack_from("<I", data, start + 16)[0]
    path = c_string(data, start + base_offset, False)
    if header_size >= 0x24:
        unicode_offset = struct.unpack_from("<I", data, start + 28)[0]
        if unicode_offset:
            path = c_string(data, start + unicode_offset, True)
    return path, start + size


def read(path):
    data = open(path, "rb").read()
    if len(data) < 76 or struct.unpack_from("<I", data, 0)[0] != 76 or data[4:20] != LINK_CLSID:
        raise ValueError("not a shell link: " + path)
    flags = struct.unpack_from("<I", data, 20)[0]
    offset = 76
    if flags & HAS_ID_LIST:
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    fields = {"target": ""}
    if flags & HAS_LINK_INFO:
        fields["target"], offset = local_base_path(data, offset)
    unit = 2 if flags & IS_UNICODE else 1
    for flag, name in ((HAS_NAME, "name"), (HAS_RELATIVE_PATH, "relative"), (HAS_WORKING_DIR, "workdir"),
                       (HAS_ARGUMENTS, "arguments"), (HAS_ICON_LOCATION, "icon")):
        if flags & flag:
            count = struct.unpack_from("<H", data, offset)[0]
            raw = data[offset + 2:offset + 2 + count * unit]
            # Wine counts the terminating NUL as well; Windows does not.
            fields[name] = raw.decode("utf-16-le" if unit == 2 else "cp1252").rstrip("\0")
            offset += 2 + count * unit
    return fields


if __name__ == "__main__":
    for key, value in read(sys.argv[1]).items():
        print(f"{key}={value}")
