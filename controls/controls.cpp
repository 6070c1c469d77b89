// Generic controls: the editable grid and the banded report engine live here.
