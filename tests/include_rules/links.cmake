# high_lib may include mid but does not link it.
set(LEDORA_LINKS_low_lib "")
set(LEDORA_LINKS_mid_lib "low_lib")
set(LEDORA_LINKS_high_lib "low_lib")
set(LEDORA_LINKS_top_lib "")
