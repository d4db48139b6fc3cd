#!/usr/bin/python3
"""The invoice report drawn with ReportLab from CSV exported by `ledora export`:
the peer the PDF benchmark measures against. One A4 page per invoice, laid
out as the shipped invoice design (positions in thousandths of an inch).

usage: invoices_reportlab.py CSVFOLDER OUT.pdf
CSVFOLDER holds CUSTOMER.csv, ITEMS.csv, INVOICES.csv and INVOICEL.csv.
"""
import csv
import os
import sys
from collections import defaultdict

from reportlab.pdfgen import canvas

PAGE_W, PAGE_H = 8268, 11693
LEFT, TOP, WIDTH = 500, 500, 7268
PT = 72 / 1000


def rows(folder, name):
    with open(os.path.join(folder, name + ".csv"), newline="", encoding="utf-8") as f:
        return list(csv.reader(f))[1:]


class Page:
    def __init__(self, pdf):
        self.pdf = pdf

    def text(self, x, y, w, value, align="L", size=10):
        self.pdf.setFont("Helvetica", size)
        px, py = (LEFT + x) * PT, (PAGE_H - y - 160) * PT
        if align == "R":
            self.pdf.drawRightString(px + w * PT, py, value)
        else:
            self.pdf.drawString(px, py, value)

    def line(self, y):
        self.pdf.line(LEFT * PT, (PAGE_H - y) * PT, (LEFT + WIDTH) * PT, (PAGE_H - y) * PT)


def invoice(page, number, head, customer, lines, items, page_no):
    p = page
    p.text(0, TOP, 3000, "Invoice")
    for i, value in enumerate(customer[:3]):
        p.text(0, TOP + 500 + 220 * i, 3500, value)
    for i, (label, value) in enumerate((("Invoice no.", number), ("Date", head[1]),
                                        ("Total", head[2]))):
        p.text(4500, TOP + 500 + 220 * i, 1300, label)
        p.text(5768, TOP + 500 + 220 * i, 1500, value, "R")
    for x, w, label, align in ((0, 1000, "Item", "R"), (1200, 3000, "Description", "L"),
                               (4300, 1300, "Quantity", "R"), (5768, 1500, "Price", "R")):
        p.text(x, TOP + 1450, w, label, align)
    p.line(TOP + 1700)
    y = TOP + 1800
    for item, quantity, price in lines:
        p.text(0, y, 1000, item, "R")
        p.text(1200, y, 3000, items.get(item, ""))
        p.text(4300, y, 1300, quantity, "R")
        p.text(5768, y, 1500, price, "R")
        y += 250
    p.text(5268, 11000, 2000, "Page %d" % page_no, "R")


def main():
    folder, out = sys.argv[1], sys.argv[2]
    customers = {r[0]: (r[1], r[2], r[3]) for r in rows(folder, "CUSTOMER")}
    items = {r[0]: r[1] for r in rows(folder, "ITEMS")}
    lines = defaultdict(list)
    for r in rows(folder, "INVOICEL"):
        lines[r[0]].append((r[2], r[3], r[4]))
    pdf = canvas.Canvas(out, pagesize=(PAGE_W * PT, PAGE_H * PT), pageCompression=1)
    page = Page(pdf)
    for n, r in enumerate(rows(folder, "INVOICES"), 1):
        year, month, day = r[2].split("-")
        head = (r[1], "%s/%s/%s" % (month, day, year[2:]), r[3])
        invoice(page, r[0], head, customers.get(r[1], ("", "", "")), lines[r[0]], items, n)
        pdf.showPage()
    pdf.save()


if __name__ == "__main__":
    main()
