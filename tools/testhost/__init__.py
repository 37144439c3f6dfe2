"""A scriptable telnet host on loopback for tests and demos; see cli.py for the command line and
steps.py for the script format."""

from .host import TestHost
from .session import Session
from .steps import ScriptError, load_script
from . import telnet

__all__ = ["TestHost", "Session", "ScriptError", "load_script", "telnet"]
