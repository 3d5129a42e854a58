#!/usr/bin/env python3
"""Checks a window's layout report (written by Ludaro.exe when asked, with
LUDARO_GUI_TEST_LAYOUT set): every static's and button's text fits its
control in the control's own font, no two shown controls side by side
overlap (a label as far down as its text), every grid column is as wide as its widest cell and shows its
title, the import's grids have no horizontal scroll bar, list rows are as
high as their font, and the window fits the screen size given.

usage: layout_check.py REPORT [--fit WIDTHxHEIGHT] [--no-scroll-bar ID]...
Prints each fault and exits 1 when there is one.
"""
import argparse
import sys

CONTAINERS = {"LudaroPanel"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("report")
    parser.add_argument("--fit")
    parser.add_argument("--no-scroll-bar", type=int, action="append", default=[])
    args = parser.parse_args()

    faults, controls = [], []
    window = None
    for line in open(args.report, encoding="utf-8", errors="replace"):
        fields = line.rstrip("\n").split("\t")
        kind, values = fields[0], fields[1:]
        if kind == "window":
            window = [int(v) for v in values]
        elif kind == "control":
            cid, cls, parent, shown = int(values[0]), values[1], int(values[2]), values[3] == "1"
            rect = tuple(int(v) for v in values[4:8])
            need_w, need_h, have_w, have_h = (int(v) for v in values[8:12])
            # A label overlaps others only as far down as its text reaches.
            if cls == "Static" and need_h:
                rect = (rect[0], rect[1], rect[2], min(rect[3], rect[1] + need_h))
            controls.append((cid, cls, parent, shown, rect))
            if need_w > have_w or need_h > have_h:
                faults.append(f"text of {cls} {cid} clipped: needs {need_w}x{need_h}, has {have_w}x{have_h}")
        elif kind == "column":
            grid, index, width, widest, title_fits = (int(v) for v in values)
            if widest > width:
                faults.append(f"grid {grid} column {index}: a cell needs {widest} px, the column has {width}")
            if not title_fits:
                faults.append(f"grid {grid} column {index}: the title does not fit {width} px")
        elif kind == "grid":
            grid, scroll_bar, total, client = (int(v) for v in values)
            if grid in args.no_scroll_bar and (scroll_bar or total > client):
                faults.append(f"grid {grid}: columns of {total} px in {client} px (scroll bar: {scroll_bar})")
        elif kind == "rows":
            cid, item_height, font_height = (int(v) for v in values)
            if item_height < font_height:
                faults.append(f"list {cid}: rows of {item_height} px for a font {font_height} px high")

    shown = [c for c in controls if c[3] and c[1] not in CONTAINERS]
    for i, (aid, acls, aparent, _, a) in enumerate(shown):
        for bid, bcls, bparent, _, b in shown[i + 1:]:
            if aparent != bparent:
                continue
            if min(a[2], b[2]) > max(a[0], b[0]) and min(a[3], b[3]) > max(a[1], b[1]):
                faults.append(f"{acls} {aid} {a} overlaps {bcls} {bid} {b}")

    if window is None:
        faults.append("the report names no window")
    elif args.fit:
        width, height = (int(v) for v in args.fit.split("x"))
        if window[2] > width or window[3] > height:
            faults.append(f"the window, {window[2]}x{window[3]}, does not fit {args.fit}")

    for fault in faults:
        print("layout:", fault)
    if window:
        print(f"layout at {window[4]} DPI: {len(controls)} controls, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
