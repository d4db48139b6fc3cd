# A small layering for the check's own test: high above mid above low, and
# top loading mid at run time.
set(LEDORA_INCLUDE_RULES
  "parts/low   low_lib"
  "parts/mid   mid_lib   parts/low"
  "parts/high  high_lib  parts/low parts/mid"
  "parts/top   top_lib   ~parts/mid")
set(LEDORA_OUTSIDE_HEADERS "Qt  ^Q")
