"""Where the main window's controls are (x, y, width, height in its client area)."""

FIELD_PORT = (320, 250, 50, 20)
FIELD_TONE = (320, 280, 50, 20)
FIELD_MESSAGE = (320, 340, 900, 20)
FIELD_START = (320, 550, 100, 20)
FIELD_STOP = (320, 580, 100, 20)
BUTTON_NOW = (430, 550, 100, 20)
BUTTON_SAVE = (120, 700, 100, 20)
BUTTON_TEST = (250, 700, 100, 20)
BUTTON_REPEATED = (380, 700, 100, 20)
BUTTON_INFO = (640, 700, 100, 20)
BUTTON_QUIT = (1030, 700, 100, 20)
DONE_LABEL = (390, 520, 200, 20)
# In the information window.
BUTTON_CLOSE_INFO = (250, 550, 100, 20)
