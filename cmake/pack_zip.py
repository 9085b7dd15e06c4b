#!/usr/bin/env python3
"""pack_zip.py ZIP EPOCH FOLDER NAME...: the release zip, the same bytes from the same files.

Each NAME under FOLDER becomes an entry, in the order given, dated EPOCH (UTC, as Windows shows a
zip's times) and with no owner, permissions or access times: nothing of the machine that packs it.
"""
import sys
import time
import zipfile

# MS-DOS as the maker: Windows' own zip folders and every unzip read its entries as plain files.
MADE_ON_MSDOS = 0
# The zip format counts time from 1980 and in steps of two seconds.
EARLIEST_ZIP_TIME = (1980, 1, 1, 0, 0, 0)


def main(zip_path, epoch, folder, names):
    date_time = max(time.gmtime(int(epoch))[:6], EARLIEST_ZIP_TIME)
    with zipfile.ZipFile(zip_path, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(name, date_time)
            entry.create_system = MADE_ON_MSDOS
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(f"{folder}/{name}", "rb") as source:
                archive.writestr(entry, source.read())


if __name__ == "__main__":
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:])
