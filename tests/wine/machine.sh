# Sourced: whether this machine runs 32-bit programs. Some kernels refuse them
# ("Exec format error"), and there Wine's 32-bit loader, and with it every
# 32-bit Windows program, cannot start. Found out by trying the loader, once per
# run: the answer is handed to everything the run starts in LYRIMARK_RUNS_32BIT
# ("yes", or "no: <why>"). LYRIMARK_NO_32BIT=1 makes a machine that can run them
# behave as one that cannot.
if [ -z "${LYRIMARK_RUNS_32BIT:-}" ]; then
  if [ "${LYRIMARK_NO_32BIT:-0}" != 0 ]; then
    LYRIMARK_RUNS_32BIT="no: LYRIMARK_NO_32BIT is set"
  elif lyrimark_why=$( (/usr/lib/wine/wine --version) 2>&1); then
    LYRIMARK_RUNS_32BIT=yes
  else
    LYRIMARK_RUNS_32BIT="no: this machine cannot run 32-bit programs (/usr/lib/wine/wine: ${lyrimark_why##*: })"
  fi
  export LYRIMARK_RUNS_32BIT
fi
# The Windows tree whose programs run here: the shipped 32-bit one where it can.
if [ "$LYRIMARK_RUNS_32BIT" = yes ]; then lyrimark_runnable_tree=win32; else lyrimark_runnable_tree=win64; fi
