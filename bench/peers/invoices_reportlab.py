#!/usr/bin/python3
"""The invoice report drawn with ReportLab from CSV exported by `ledora export`:
the peer the PDF benchmark measures against. It draws what the shipped
invoice design prints, in the same font (the one fontconfig gives for Arial,
embedded as a subset as ledora embeds it): the letterhead and its rule on
every page; on an invoice's first page the return line, the address, the
invoice's facts, the title and the table's header between two rules; a line
and a grey rule for each invoice line; in the footer the total in a ruled box,
a rule, the payment terms and "Page X of Y" of the invoice. An invoice whose
lines do not fit goes on over further pages. Positions are thousandths of an
inch from the page's top left, as in reports/shipped_reports.txt.

usage: invoices_reportlab.py CSVFOLDER OUT.pdf
CSVFOLDER holds CUSTOMER.csv, ITEMS.csv, INVOICES.csv and INVOICEL.csv.
"""
import csv
import os
import subprocess
import sys
from collections import defaultdict
from decimal import Decimal

from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

PAGE_W, PAGE_H = 8268, 11693
LEFT, RIGHT = 800, 800 + 6668
DETAIL_TOP, DETAIL_BOTTOM = 1700, 1700 + 8200
HEAD_HEIGHT, LINE_HEIGHT = 2780, 280
FOOTER_TOP = 10000
PT = 72 / 1000
ASCENT = 0.905  # Liberation Sans: baseline below a text's top, in ems
PEN = 10
GREY = (192 / 255, 192 / 255, 192 / 255)
TERMS = "Payable within 30 days of the invoice date without deduction."
RETURN_LINE = "Your Company Name, Street and number, Postcode Town"
LETTERHEAD = (("Your Company Name", 0, 360, 16, True), ("Street and number", 420, 200, 9, False),
              ("Postcode Town", 620, 200, 9, False),
              ("Phone 0123 456789, info@example.com", 820, 200, 9, False))
COLUMNS = ((0, 800, "Item", "R"), (1000, 2600, "Description", "L"),
           (3700, 800, "Quantity", "R"), (4600, 1000, "Unit price", "R"),
           (5700, 968, "Amount", "R"))


def font_file(pattern):
    return subprocess.run(["fc-match", "-f", "%{file}", pattern], check=True,
                          capture_output=True, text=True).stdout


def rows(folder, name):
    with open(os.path.join(folder, name + ".csv"), newline="", encoding="utf-8") as f:
        return list(csv.reader(f))[1:]


def money(text):
    return "{:,.2f}".format(Decimal(text or "0"))


class Page:
    def __init__(self, pdf):
        self.pdf = pdf

    def text(self, x, y, w, value, size=10, bold=False, align="L"):
        """value in the box whose top left is (x, y) from the page's top left."""
        self.pdf.setFont("Sans-Bold" if bold else "Sans", size)
        px = x * PT
        py = (PAGE_H - y) * PT - ASCENT * size
        if align == "R":
            self.pdf.drawRightString(px + w * PT, py, value)
        else:
            self.pdf.drawString(px, py, value)

    def rule(self, y, grey=False):
        self.pdf.setStrokeColorRGB(*(GREY if grey else (0, 0, 0)))
        self.pdf.line(LEFT * PT, (PAGE_H - y) * PT, RIGHT * PT, (PAGE_H - y) * PT)

    def box(self, x, y, w, h):
        self.pdf.setStrokeColorRGB(0, 0, 0)
        self.pdf.rect(x * PT, (PAGE_H - y - h) * PT, w * PT, h * PT)


def letterhead(p):
    p.pdf.setLineWidth(PEN * PT)  # each page starts from the default state
    for value, y, h, size, bold in LETTERHEAD:
        p.text(LEFT + 2668, 500 + y, 4000, value, size, bold, "R")
    p.rule(500 + 1080)


def head(p, number, invoice, customer):
    top = DETAIL_TOP
    p.text(LEFT, top + 550, 3300, RETURN_LINE, 7)
    for i, value in enumerate(customer):
        p.text(LEFT, top + 770 + 220 * i, 3300, value)
    for i, (label, value) in enumerate((("Invoice number", number),
                                        ("Invoice date", invoice["date"]),
                                        ("Customer number", invoice["customer"]))):
        p.text(LEFT + 4100, top + 770 + 220 * i, 1300, label)
        p.text(LEFT + 5400, top + 770 + 220 * i, 1268, value, align="R")
    p.text(LEFT, top + 1750, 3000, "Invoice", 22, True)
    p.rule(top + 2400)
    for x, w, label, align in COLUMNS:
        p.text(LEFT + x, top + 2450, w, label, bold=True, align=align)
    p.rule(top + 2720)


def line(p, y, item, description, quantity, unit_price, amount):
    for (x, w, _, align), value in zip(COLUMNS, (item, description, quantity, unit_price,
                                                 amount)):
        p.text(LEFT + x, y + 40, w, value, align=align)
    p.rule(y + 270, grey=True)


def footer(p, total, page_no, pages):
    p.box(LEFT + 4100, FOOTER_TOP, 2568, 360)
    p.text(LEFT + 4200, FOOTER_TOP + 70, 1300, "Invoice total", bold=True)
    p.text(LEFT + 5500, FOOTER_TOP + 70, 1068, total, bold=True, align="R")
    p.rule(FOOTER_TOP + 700)
    p.text(LEFT, FOOTER_TOP + 780, 5000, TERMS, 8)
    p.text(LEFT + 5168, FOOTER_TOP + 780, 1500, "Page %d of %d" % (page_no, pages), 8,
           align="R")


def pages_of(lines):
    first = (DETAIL_BOTTOM - DETAIL_TOP - HEAD_HEIGHT) // LINE_HEIGHT
    later = (DETAIL_BOTTOM - DETAIL_TOP) // LINE_HEIGHT
    return 1 + max(0, -(-(len(lines) - first) // later))


def invoice(pdf, number, inv, customer, lines, items):
    p = Page(pdf)
    pages = pages_of(lines)
    page_no = 1
    letterhead(p)
    head(p, number, inv, customer)
    y = DETAIL_TOP + HEAD_HEIGHT
    for item, quantity, price in lines:
        if y + LINE_HEIGHT > DETAIL_BOTTOM:
            footer(p, inv["total"], page_no, pages)
            pdf.showPage()
            page_no += 1
            letterhead(p)
            y = DETAIL_TOP
        description, unit_price = items.get(item, ("", "0"))
        line(p, y, item, description, quantity, money(unit_price), money(price))
        y += LINE_HEIGHT
    footer(p, inv["total"], page_no, pages)
    pdf.showPage()


def main():
    folder, out = sys.argv[1], sys.argv[2]
    pdfmetrics.registerFont(TTFont("Sans", font_file("Arial")))
    pdfmetrics.registerFont(TTFont("Sans-Bold", font_file("Arial:bold")))
    customers = {r[0]: (r[1], r[2], r[3]) for r in rows(folder, "CUSTOMER")}
    items = {r[0]: (r[1], r[2]) for r in rows(folder, "ITEMS")}
    lines = defaultdict(list)
    for r in rows(folder, "INVOICEL"):
        lines[r[0]].append((r[2], r[3], r[4]))
    pdf = canvas.Canvas(out, pagesize=(PAGE_W * PT, PAGE_H * PT), pageCompression=1)
    for r in rows(folder, "INVOICES"):
        year, month, day = r[2].split("-")
        inv = {"customer": r[1], "date": "%s/%s/%s" % (month, day, year[2:]),
               "total": money(r[3])}
        invoice(pdf, r[0], inv, customers.get(r[1], ("", "", "")), lines[r[0]], items)
    pdf.save()


if __name__ == "__main__":
    main()
