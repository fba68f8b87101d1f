# Stage 4, "The Shield": the player starts in a room looking through its doorway out over a hall in
# which two lasers turn fast, sweeping all of it at the height of a body. The lever that switches the lasers off waits in a niche at the far end of the hall's west side,
# along which runs a low curb of clay: too low to hide behind, until shots at the strip of floor behind
# it raise it into a wall between the beams and the path. With the lasers off, a
# lever by the north wall opens the door deep in its passage, on the way to the last goal.
# The player starts at (-54, 12, -34) looking north (+z) through the doorway, along the curb to the niche.
#
# Structure is uncut and reaches far beyond what can be seen: only the clay curb bends. The door sits
# 48 into a passage of its own width, out of reach of any shot from the hall, and the passage goes on
# 57 beyond it: a shot inside the passage dents the door at most 45 deep, still inside the passage.
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
# The start room's north wall, with a doorway at its west end out onto the strip behind the curb. Beams
# that come through it end on the room's west wall, in sight of the start.
box brick   -48 -400   -8   400 400 -4
box brick   -60   28   -8   -48 400 -4         # over the doorway
# The north wall with the door's passage (24 wide, 28 high) and the goal room behind it.
box brick  -400 -400  170   -12 400 275
box brick    12 -400  170   400 400 275
box brick   -12   28  170    12 400 275
box brick  -400 -400  275   -40 400 400
box brick    40 -400  275   400 400 400
box brick  -400 -400  340   400 400 400

# The curb of clay along the west side, finely cut: a shot at the floor beside it raises it.
cell 2
box clay   -34 0 10   -28 9 118   skip=-y
