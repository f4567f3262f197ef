"""make_zip.py ARCHIVE FOLDER - the release archive, the same bytes for the same files:
a fixed order, each entry dated SOURCE_DATE_EPOCH (the commit's time), from "MS-DOS"."""
import os
import sys
import time
import zipfile

ORDER = ["dialvane.exe", "dialvane-x64.exe", "README.txt", "LICENSE.txt", "SHA256SUMS"]
DOS_EPOCH = 315532800       # 1980-01-01, the first time a zip entry can hold
ARCHIVE_ATTRIBUTE = 0x20    # as Windows sets it on a new file

archive, folder = sys.argv[1], sys.argv[2]
# Zip times have no time zone and a two-second grain; the commit's UTC time.
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), DOS_EPOCH))[:6]
with zipfile.ZipFile(archive, "w") as out:
    for name in ORDER:
        entry = zipfile.ZipInfo(name, date_time=stamp)
        entry.create_system = 0
        entry.external_attr = ARCHIVE_ATTRIBUTE
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(os.path.join(folder, name), "rb") as data:
            out.writestr(entry, data.read(), compresslevel=9)
