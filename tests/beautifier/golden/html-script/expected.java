<html>
  <body>
  <script>  
if (a) {
    b();
}
  </SCRIPT>
<p>  text  </p>
<SCRIPT LANGUAGE=x>
if (c) d();
</script>
<server>


x();
</server>
</html>
