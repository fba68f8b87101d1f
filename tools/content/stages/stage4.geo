# Stage 4, "The Shield": the player starts on a balcony over a hall in which two lasers turn,
# sweeping all of it. The lever that switches the lasers off waits in a
# niche at the far end of the hall's west side, along which runs a low curb of clay: too low to hide
# behind, until shots at the floor beside it raise it into a wall between the beams and the path. With
# the lasers off, a lever by the door at the north end opens the way to the last goal.
# The player starts at (0, 52, -16) looking north (+z), over the hall at the far laser and the door.
#
# Structure is uncut and reaches far beyond what can be seen: only the clay curb bends.
mesh stage4.x
material stone  data/texture/stone.png  16  0.85 0.85 0.85
material brick  data/texture/brick.png  16  1 1 1
material plate  data/texture/plate.png  16  0.9 0.9 0.95
material clay   data/texture/clay.png   16  1 1 1
material hazard data/texture/hazard.png 16  1 1 1

cell whole
box stone  -400 -400 -400   400 0 400          # the hall's floor
box brick  -400 -400 -400   400 400 -40        # south wall
box brick    60 -400 -400   400 400 400        # east wall
box brick  -400 -400 -400   -60 400 100        # west wall, with the niche of the laser's lever
box brick  -400 -400  112   -60 400 400
box brick  -400 -400  100   -72 400 112
box hazard  -72 0 100  -60 0.2 112            # warning plates in the niche
box plate  -400 -400  -40   400 40 -4          # the balcony, 40 above the hall
# The north wall with its doorway (24 wide, 28 high), and the goal room behind it.
box brick  -400 -400  170   -12 400 178
box brick    12 -400  170   400 400 178
box brick   -12   28  170    12 400 178
box brick  -400 -400  178   -40 400 400
box brick    40 -400  178   400 400 400
box brick  -400 -400  240   400 400 400

# The curb of clay along the west side, finely cut: a shot at the floor beside it raises it.
cell 2
box clay   -34 0 10   -28 6 118   skip=-y
