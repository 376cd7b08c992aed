# Sourced by the scripts and end-to-end tests that click the game's buttons: their centres in screen
# pixels of the 800x600 display, as the form lays them out (a unit test checks that the two agree).
PLAY_X=394 PLAY_Y=435
STOP_X=53 STOP_Y=20
EXIT_X=394 EXIT_Y=529
LEVEL_Y=482
# The centre x of level button $1 (1..6).
level_x() { echo $((321 + 31 * ($1 - 1))); }
