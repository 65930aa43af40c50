# The Blender add-on in the real Blender, in background mode: installed from the zip the
# build makes, its operators run against a scripted pick of a demo chip, a cancel and a
# missing program. Run: blender --background --factory-startup --python THIS -- ZIP PALETTRA
import json
import os
import shutil
import subprocess
import sys

import bpy

zip_path, palettra = sys.argv[sys.argv.index("--") + 1:][:2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def close(a, b, tolerance=1e-5):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def linear(channel):
    c = channel / 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


bpy.ops.preferences.addon_install(filepath=zip_path, overwrite=True)
bpy.ops.preferences.addon_enable(module="palettra_blender")
prefs = bpy.context.preferences.addons["palettra_blender"].preferences
check(bpy.context.preferences.addons.get("palettra_blender") is not None, "the add-on is enabled")
prefs.program = palettra

# What the scripted pick gives, asked of the picker itself.
os.environ["PALETTRA_PICK_ARGS"] = '--search "OT 1042" --accept'
chip = json.loads(subprocess.run([palettra, "--pick", "--format", "json", "--search", "OT 1042", "--accept"],
                                 check=True, capture_output=True, text=True).stdout)
expected = (linear(chip["rgb"][0]), linear(chip["rgb"][1]), linear(chip["rgb"][2]), 1.0)

cube = bpy.data.objects["Cube"]
bpy.context.view_layer.objects.active = cube
material = cube.active_material
check(material is not None and material.name == "Material", "the factory cube has Blender's default material")

result = bpy.ops.palettra.pick_material_colour()
check(result == {"FINISHED"}, "the material pick finished: %s" % result)
material = cube.active_material
base = next(node for node in material.node_tree.nodes if node.type == "BSDF_PRINCIPLED").inputs["Base Color"].default_value
check(close(tuple(base), expected), "Base Color %s is the chip's linear sRGB %s" % (tuple(base), expected))
check(close(tuple(material.diffuse_color), expected), "the viewport colour is the chip's")
check(material.name == "OT 1042 Studio Seafoam", "the material is named after the paint: %s" % material.name)
check(material.get("palettra_code") == "OT 1042", "the code is kept")
check(material.get("palettra_name") == "Studio Seafoam", "the name is kept")
check(material.get("palettra_collection") == "Orva Interior", "the collection is kept")
check(material.get("palettra_hex") == chip["hex"], "the hex value is kept")

result = bpy.ops.palettra.pick_object_colour()
check(result == {"FINISHED"}, "the object pick finished")
check(close(tuple(cube.color), expected), "the object colour is the chip's")
check(cube.get("palettra_code") == "OT 1042", "the object keeps the code")

# An object without a material gets one.
bpy.ops.mesh.primitive_uv_sphere_add()
sphere = bpy.context.active_object
check(sphere.active_material is None, "the new sphere has no material")
bpy.ops.palettra.pick_material_colour()
check(sphere.active_material is not None and sphere.active_material.get("palettra_code") == "OT 1042",
      "a material is made for an object without one")

# A cancelled pick (status 1) changes nothing.
bpy.context.view_layer.objects.active = cube
before = (tuple(base), material.name, tuple(cube.color))
prefs.program = shutil.which("false")
result = bpy.ops.palettra.pick_material_colour()
check(result == {"CANCELLED"}, "a cancel is cancelled")
check((tuple(base), material.name, tuple(cube.color)) == before, "a cancel changes nothing")

# A missing program is an error report, and changes nothing.
prefs.program = "/nonexistent/palettra"
reported = False
try:
    result = bpy.ops.palettra.pick_material_colour()
except RuntimeError as error:
    reported = "not found" in str(error)
check(reported, "a missing program is reported as an error")
check((tuple(base), material.name, tuple(cube.color)) == before, "a missing program changes nothing")

print("RESULT", "FAILED" if failures else "PASSED", len(failures))
sys.exit(1 if failures else 0)
