# Stage 2, "Machinery": a lever wakes the lift, which carries the player up to the gallery 120 high. Up
# there a laser turns in the tunnel to the goal: walking through its sweep is death. The lever that
# switches it off stands in an alcove behind a low beam of clay, seen through the gap under it; a shot
# at the alcove's floor lifts the clay, and the way in is open.
# The player starts at (0, 12, 0) looking north (+z), at the lift and its lever.
#
# Structure is uncut and reaches far beyond what can be seen, so that no bulge bends it: only the clay
# beam moves.
mesh stage2.x
material stone  data/texture/stone.png  16  0.85 0.85 0.85
material brick  data/texture/brick.png  16  1 1 1
material plate  data/texture/plate.png  16  0.9 0.9 0.95
material clay   data/texture/clay.png   16  1 1 1
material hazard data/texture/hazard.png 16  1 1 1

cell whole
box stone  -400 -400 -400   400 0 400          # the hall's floor
box brick  -400 -400 -400  -48 400 400         # west wall
box brick    48 -400 -400  400 400 400         # east wall
box brick  -400 -400 -400   400 400 -24        # south wall
box brick  -400 -400   90   400 119 400        # the gallery, 120 high with its steel edge
box plate  -400  119   90   400 120 400
# The gallery's back wall, 40 in: the tunnel to the goal (16 wide, with a jog so that the laser cannot
# see out of it) and the alcove of the laser's lever (16 wide, west of the tunnel) are cut into it, and
# a roof 24 above the gallery covers both.
box brick  -400 -400  130   -32 400 400
box brick   -16 -400  130    -8 400 400
box brick   -32 -400  142   -16 400 400        # the alcove's back, 12 deep
box brick     8 -400  130   400 400 160        # east of the tunnel's first leg
box brick    -8 -400  176    24 400 400        # north of the jog, west of the last leg
box brick    40 -400  160   400 400 200        # east of the last leg, with the laser's niche
box brick    40 -400  220   400 400 400
box brick    46 -400  200   400 400 220
box brick    24 -400  260    40 400 400        # the tunnel's end
box brick  -400  144  130   400 400 400        # the roof over tunnel and alcove
box hazard  -32 120 130  -16 120.2 142        # warning plates on the alcove's floor

# The clay beam across the alcove's mouth, 10 to 24 above the gallery: too low to pass under, too
# high to see over, and finely cut, so that a shot at the alcove's floor lifts it out of the way.
cell 2
box clay   -32 130 130  -16 144 134  skip=+y
