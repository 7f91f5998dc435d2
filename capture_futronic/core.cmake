# Portable core of velmar-capture-a (built natively too): log, settings and command line, code names.
