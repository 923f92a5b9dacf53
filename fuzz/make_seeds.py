#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz corpus: BMP files of every form the reader accepts or
refuses (corpus/read/seed-*), and image, option line and answer choices for the pipeline
(corpus/pipeline/seed-*). Inputs the fuzzer found are kept beside them under other names."""

import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent


def pattern(count, seed):
    """Samples that differ from their neighbours, with pure white among them."""
    values = []
    state = seed * 2654435761 + 12345
    for i in range(count):
        state = (state * 1103515245 + 12345) & 0xFFFFFFFF
        values.append(255 if i % 7 == 3 else (state >> 16) & 0xFF)
    return bytes(values)


def bmp(width, height, bpp=24, top_down=False, unpadded=False, drop_last_fill=False,
        pixel_offset=None, info_header_size=40, compression=0, signature=b"BM"):
    """A BMP file; rows padded to 4 bytes unless `unpadded` (then two closing zero bytes)."""
    grey = bpp == 8
    header_bytes = 14 + info_header_size
    start = pixel_offset if pixel_offset is not None else header_bytes + (1024 if grey else 0)
    row = width * max(bpp // 8, 1)
    stored = row if unpadded else (row + 3) // 4 * 4
    # The reader takes the pixels from byte 54 when the offset points into the header.
    body = bytearray(max(start, 54))
    if grey:
        palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
        end = min(len(body), header_bytes + 1024)
        body[header_bytes:end] = palette[: max(end - header_bytes, 0)]
    pixels = pattern(row * height, width * 31 + height)
    for y in range(height):
        body += pixels[y * row:(y + 1) * row]
        if not (drop_last_fill and y + 1 == height):
            body += bytes(stored - row)
    if unpadded:
        body += bytes(2)
    stored_height = -height if top_down else height
    struct.pack_into("<2sI4xI", body, 0, signature, len(body), start)
    struct.pack_into("<IiiHHII", body, 14, info_header_size, width, stored_height, 1, bpp,
                     compression, max(len(body) - start, 0))
    struct.pack_into("<II", body, 38, 2834, 2834)
    return bytes(body)


def with_field(data, offset, fmt, value):
    body = bytearray(data)
    struct.pack_into(fmt, body, offset, value)
    return bytes(body)


def read_seeds():
    small = bmp(4, 2)
    return {
        "colour-4x2": small,
        "grey-4x2": bmp(4, 2, 8),
        "colour-5x3-padded": bmp(5, 3),
        "colour-5x3-unpadded": bmp(5, 3, unpadded=True),
        "grey-3x3-unpadded": bmp(3, 3, 8, unpadded=True),
        "grey-7x2-padded": bmp(7, 2, 8),
        "colour-5x3-top-down": bmp(5, 3, top_down=True),
        "grey-6x4-top-down": bmp(6, 4, 8, top_down=True),
        "colour-5x3-last-fill-dropped": bmp(5, 3, drop_last_fill=True),
        "colour-6x2-info-header-124": bmp(6, 2, info_header_size=124),
        "grey-2x2-offset-2000": bmp(2, 2, 8, pixel_offset=2000),
        "colour-3x2-offset-0": bmp(3, 2, pixel_offset=0),
        "colour-0x5": bmp(0, 5),
        "colour-5x0": bmp(5, 0),
        "grey-0x0": bmp(0, 0, 8),
        "grey-4096x1-unpadded": bmp(4096, 1, 8, unpadded=True),
        "grey-1x4096-unpadded": bmp(1, 4096, 8, unpadded=True),
        "width-4097": with_field(small, 18, "<i", 4097),
        "height-65535": with_field(small, 22, "<i", 65535),
        "width-max": with_field(small, 18, "<i", 0x7FFFFFFF),
        "height-most-negative-plus-one": with_field(small, 22, "<i", -0x7FFFFFFF),
        "height-most-negative": with_field(small, 22, "<i", -0x80000000),
        "width-negative": with_field(small, 18, "<i", -4),
        "one-byte-short": small[:-1],
        "empty": b"",
        "53-bytes": small[:53],
        "signature-wrong": bmp(4, 2, signature=b"MB"),
        "info-header-12": with_field(small, 14, "<I", 12),
        "info-header-39": with_field(small, 14, "<I", 39),
        "bits-16": with_field(small, 28, "<H", 16),
        "bits-32": with_field(small, 28, "<H", 32),
        "bits-1": with_field(small, 28, "<H", 1),
        "compression-1": with_field(small, 30, "<I", 1),
        "compression-3": with_field(small, 30, "<I", 3),
        "offset-max": with_field(small, 10, "<I", 0xFFFFFFFF),
        "fields-all-ones": small[:2] + b"\xff" * 52 + small[54:],
    }


def pipeline_seed(grey, width, height, text, pixels=b""):
    """Byte 0 bit 0: grey; bytes 1, 2: width, height; byte 3: text length; text; pixels."""
    return bytes((1 if grey else 0, width, height, len(text))) + text + pixels


def pipeline_seeds():
    white_dots = pattern(96, 5)
    seeds = {}
    for grey in (False, True):
        form = "grey" if grey else "colour"
        for option in b"123456789abc":
            seeds[f"{form}-option-{chr(option)}"] = pipeline_seed(grey, 9, 6, bytes((option, 10)),
                                                                 white_dots)
        seeds[f"{form}-trim"] = pipeline_seed(grey, 20, 12, b"2\n3\n2\n14\n9\n", white_dots)
        seeds[f"{form}-trim-narrow"] = pipeline_seed(grey, 20, 12, b"2\n5\n1\n7\n3\n")
        seeds[f"{form}-trim-text"] = pipeline_seed(grey, 8, 8, b"2\nx\n")
        seeds[f"{form}-trim-last-column"] = pipeline_seed(grey, 8, 8, b"2\n7\n0\n7\n9\n")
        seeds[f"{form}-resize-up"] = pipeline_seed(grey, 10, 7, b"3\n24\n", white_dots)
        seeds[f"{form}-resize-down"] = pipeline_seed(grey, 40, 30, b"3\n12\n", white_dots)
        seeds[f"{form}-resize-tall"] = pipeline_seed(grey, 8, 40, b"3\n2\n", white_dots)
        seeds[f"{form}-resize-odd"] = pipeline_seed(grey, 13, 9, b"3\n0\n3\n1\n3\n-4\n5\n")
        seeds[f"{form}-resize-too-large"] = pipeline_seed(grey, 10, 30, b"3\n5000\n1400\n8\n")
        seeds[f"{form}-resize-text"] = pipeline_seed(grey, 6, 6, b"3\nabc\n")
        seeds[f"{form}-everything"] = pipeline_seed(
            grey, 33, 21, b"123456789abc\n2\n1\n30\n19\n16\n", white_dots)
        seeds[f"{form}-turns-small"] = pipeline_seed(grey, 3, 2, b"456\n")
        seeds[f"{form}-empty-image"] = pipeline_seed(grey, 0, 0, b"23456789abc\n8\n")
        seeds[f"{form}-one-row"] = pipeline_seed(grey, 40, 1, b"3c\n20\n", white_dots)
        seeds[f"{form}-end-of-input"] = pipeline_seed(grey, 12, 12, b"23\n1\n1\n")
    seeds["colour-grey-and-edges"] = pipeline_seed(False, 16, 16, b"1c9\n", white_dots)
    seeds["colour-long-line"] = pipeline_seed(False, 8, 8, b"7" * 20 + b"\n4\n")
    seeds["colour-nul-answers"] = pipeline_seed(False, 8, 8, b"2\n\x001\n\xff\n5\n5\n")
    return seeds


def write(folder, seeds):
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (folder / f"seed-{name}").write_bytes(data)


def main():
    write(HERE / "corpus" / "read", read_seeds())
    write(HERE / "corpus" / "pipeline", pipeline_seeds())


if __name__ == "__main__":
    main()
