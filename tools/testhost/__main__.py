#!/usr/bin/env python3
"""python3 tools/testhost ARGS... runs the test host."""

import os
import sys

if __package__ in (None, ""):
    sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    from testhost.cli import main
else:
    from .cli import main

sys.exit(main())
